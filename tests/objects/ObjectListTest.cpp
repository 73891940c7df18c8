#include "HighlightObject.h"
#include "LineObject.h"
#include "ObjectList.h"
#include "ShapeObject.h"
#include "StampObject.h"
#include "TextObject.h"

#include <gtest/gtest.h>

TEST(ObjectListTest, Placeholder)
{
    ObjectList list;
    EXPECT_TRUE(list.IsEmpty());
}
