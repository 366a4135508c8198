// Runs the front-end tests inside one QApplication, without a display.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <memory>

namespace {

// Made when the tests start, after the runtime folder of the test process
// (an environment registered before main), so that Qt uses that folder too.
class QtApplication : public testing::Environment {
 public:
  QtApplication(int& argc, char** argv) : argc_(argc), argv_(argv) {}
  void SetUp() override { application_ = std::make_unique<QApplication>(argc_, argv_); }
  void TearDown() override { application_.reset(); }

 private:
  int& argc_;
  char** argv_;
  std::unique_ptr<QApplication> application_;
};

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  testing::InitGoogleTest(&argc, argv);
  testing::AddGlobalTestEnvironment(new QtApplication(argc, argv));
  return RUN_ALL_TESTS();
}
