// The preview: its date text, its clock and its drawing.
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QRadioButton>
#include <QTimer>
#include <algorithm>

#include "frontend/Unit1.h"
#include "frontend/bitmap_image.h"
#include "frontend/preview_date_text.h"
#include "frontend/preview_render.h"

namespace quorvel {

namespace {

platform::Bitmap BlankSample() {
  platform::Bitmap blank(kPreviewWidth, kPreviewHeight);
  std::fill(blank.pixels.begin(), blank.pixels.end(), std::uint8_t{0xFF});
  return blank;
}

}  // namespace

void TForm1::Get_Time_Now() {
  if (!preview_clock_)
    preview_clock_ =
        options_.PreviewClock ? options_.PreviewClock : std::make_shared<SystemClock>();
  const LocalDateTime now = preview_clock_->Now();
  if (!Timer_Preview->isActive()) Timer_Preview->start();
  const DateTextChoices choices{
      DayStyle,
      MonthStyle,
      YearStyle,
      numeric_month->isChecked(),
      separated_txt->currentIndex(),
      TimeChoiceOf(ShowSec->isChecked(), NotShowSec->isChecked(), NotShowTime->isChecked()),
      date_format->currentIndex()};
  OverlayText = BuildPreviewDateText(choices, now);
}

// A save that fails ends the tick before the redraw; rec_ini decides how
// often the user hears of it.
void TForm1::Timer_PreviewTimer() {
  Get_Time_Now();
  rec_ini();
  preview_sample();
}

void TForm1::preview_sample() {
  if (MyTXT.empty())
    Get_Time_Now();
  else
    OverlayText = MyTXT;
  bg->clear();
  MarginPercent = border_margin->currentIndex();

  const QFont style = font_preview->font();
  PreviewInputs inputs;
  inputs.text = OverlayText;
  inputs.face = ComboBox1->currentText().toStdString();
  inputs.size_index = fs_list->currentIndex();
  inputs.bold = style.bold();
  inputs.italic = style.italic();
  inputs.underline = style.underline();
  inputs.strikeout = style.strikeOut();
  inputs.text_colour = panel_color(ColorPanel);
  inputs.shadow_colour = panel_color(DropShadowPanel);
  inputs.drop_shadow = drop_shadow_chk->isChecked();
  inputs.margin_index = MarginPercent;
  inputs.position_index = txt_position->currentIndex();

  const PreviewRendering rendering = RenderPreview(sample_bitmap(), inputs);
  ShadowOffset = rendering.placement.shadow_offset;
  bg->setPixmap(QPixmap::fromImage(ImageFromBitmap(rendering.picture)));
}

// Converted once: every rendering draws on its own copy, so the sample never
// carries a stamp. Without its picture the preview still shows the stamp, on white.
const platform::Bitmap& TForm1::sample_bitmap() {
  if (sample_bitmap_.pixels.empty()) {
    sample_bitmap_ = BitmapFromImage(sample_pic->pixmap().toImage());
    if (sample_bitmap_.pixels.empty()) sample_bitmap_ = BlankSample();
  }
  return sample_bitmap_;
}

void TForm1::Load_Sample_pic() {
  bg->clear();
  bg->setPixmap(sample_pic->pixmap().copy());
}

// As the font list's change: it saves, and the focus stays on the list.
void TForm1::txt_positionChange() {
  save_redraw();
}

void TForm1::fs_listChange() {
  save_redraw();
}

void TForm1::date_formatChange() {
  save_redraw();
}

}  // namespace quorvel
