// The picture list: adding, clicking into it, emptying it.
#include "frontend/Unit1.h"

namespace quorvel {

void TForm1::img_open_pictureClick() {}

void TForm1::Memo1Click() {}

void TForm1::img_resetClick() {}

}  // namespace quorvel
