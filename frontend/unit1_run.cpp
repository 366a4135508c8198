// A run: the list file, the generator's reports, the run watch.
#include "frontend/Unit1.h"

namespace quorvel {

void TForm1::Start_ImprintClick() {}

void TForm1::create_tmp_file() {}

void TForm1::CopyData(std::string payload) {
  (void)payload;
}

void TForm1::CheckFile_finish() {}

void TForm1::Timer1Timer() {}

}  // namespace quorvel
