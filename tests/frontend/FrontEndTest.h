#pragma once
// The shared tests' fixture: a front end of the platform this program was built for.
#include <gtest/gtest.h>

#include <memory>

#include "FrontEnd.h"

namespace tg::test {

class FrontEndTest : public ::testing::Test {
 protected:
    std::unique_ptr<FrontEnd> ui = MakeFrontEnd();
    World& world = ui->world;
};

}  // namespace tg::test
