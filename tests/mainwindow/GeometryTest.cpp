#include <gtest/gtest.h>

#include "ApUnit1Geometry.h"

TEST(ViewFit, SmallPictureIsDrawnOneToOneAndCentred) {
  const TRect v = FitViewRect(100, 50, 813, 613);
  EXPECT_EQ(v, (TRect{356, 281, 456, 331}));
}
