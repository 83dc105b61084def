#include <objbase.h>

#include <gtest/gtest.h>

namespace {

// Lets every test use the platform's component runtime, as the program does.
class ComEnvironment : public testing::Environment {
public:
    void SetUp() override { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    void TearDown() override { CoUninitialize(); }
};

testing::Environment* const comEnvironment = testing::AddGlobalTestEnvironment(new ComEnvironment);

}  // namespace
