// The calculation settings of this program: the experimental unit factorings off, set before
// any test starts the environment.
#include <gtest/gtest.h>

#include "NCSettings.h"

namespace {

class StandardUnitsEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        ASSERT_FALSE(NCSettings::isSet());
        auto settings = std::make_shared<NCSettings>();
        settings->setEnableExperimentalUnitsMode(false);
        settings->set();
    }
};

const auto* const registered = ::testing::AddGlobalTestEnvironment(new StandardUnitsEnvironment);

}  // namespace
