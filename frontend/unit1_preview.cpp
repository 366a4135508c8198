// The preview: its date text, its clock and its drawing.
#include <QLabel>
#include <QPixmap>

#include "frontend/Unit1.h"

namespace quorvel {

void TForm1::Get_Time_Now() {}

void TForm1::Timer_PreviewTimer() {}

void TForm1::preview_sample() {
  Load_Sample_pic();
}

void TForm1::Load_Sample_pic() {
  bg->clear();
  bg->setPixmap(sample_pic->pixmap().copy());
}

void TForm1::txt_positionChange() {
  preview_sample();
}

void TForm1::fs_listChange() {
  preview_sample();
}

void TForm1::date_formatChange() {
  preview_sample();
}

}  // namespace quorvel
