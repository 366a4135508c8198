// The output folder, the fonts folder, the help page and the user's own text.
#include "frontend/Unit1.h"

namespace quorvel {

void TForm1::disk_outputClick() {}

void TForm1::label_path_outputClick() {}

void TForm1::Label_FontClick() {}

void TForm1::img_helpClick() {}

void TForm1::custom_iconClick() {}

}  // namespace quorvel
