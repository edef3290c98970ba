// The calculation settings are set once per process, before any test evaluates.
#include <gtest/gtest.h>

#include "NCSettings.h"

namespace {

class KitTestEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        if (!NCSettings::isSet()) std::make_shared<NCSettings>()->set();
    }
};

const auto* const registered = ::testing::AddGlobalTestEnvironment(new KitTestEnvironment);

}  // namespace
