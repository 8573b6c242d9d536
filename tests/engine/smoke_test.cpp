#include "jfile.h"
#include <gtest/gtest.h>
TEST(Smoke, NewDatabaseHasDefaults) { quorvil::TJFILE db; db.InitNew(); EXPECT_EQ(db.Layout, 3); }
