// The level scales of the sound slots against the mixer's linear gains.
#include <gtest/gtest.h>

#include <cmath>

#include "audio/sound_levels.h"

TEST(SoundLevels, VolumeIsLinearInAmplitude)
{
    EXPECT_EQ(GainToVolume(1), kVolumeFull);
    EXPECT_EQ(GainToVolume(0), kVolumeSilent);
    EXPECT_EQ(GainToVolume(0.5), -602);   // 6.02 dB down
    EXPECT_EQ(GainToVolume(0.1), -2000);  // 20 dB down
    for (double gain : {0.9, 0.5, 0.25, 0.1, 0.01})
        EXPECT_NEAR(VolumeToGain(GainToVolume(gain)), gain, gain * 0.002) << gain;
}

TEST(SoundLevels, ScaleEndsAreExact)
{
    EXPECT_EQ(VolumeToGain(kVolumeFull), 1.0);
    EXPECT_EQ(VolumeToGain(kVolumeSilent), 0.0);
    EXPECT_EQ(VolumeToGain(-20000), 0.0);
    EXPECT_EQ(VolumeToGain(500), 1.0);
    EXPECT_EQ(GainToVolume(1e-9), kVolumeSilent);
    EXPECT_EQ(GainToVolume(2), kVolumeFull);
    EXPECT_EQ(GainToVolume(-1), kVolumeSilent);
    EXPECT_EQ(GainToVolume(std::nan("")), kVolumeSilent);
}

TEST(SoundLevels, PanAttenuatesTheOtherSide)
{
    PanGains centre = PanToGains(kPanCenter);
    EXPECT_EQ(centre.left, 1.0);
    EXPECT_EQ(centre.right, 1.0);

    PanGains right = PanToGains(kPanRight);
    EXPECT_EQ(right.left, 0.0);
    EXPECT_EQ(right.right, 1.0);

    PanGains left = PanToGains(kPanLeft);
    EXPECT_EQ(left.left, 1.0);
    EXPECT_EQ(left.right, 0.0);

    PanGains halfRight = PanToGains(602);
    EXPECT_NEAR(halfRight.left, 0.5, 0.001);
    EXPECT_EQ(halfRight.right, 1.0);
    PanGains halfLeft = PanToGains(-602);
    EXPECT_EQ(halfLeft.left, 1.0);
    EXPECT_NEAR(halfLeft.right, 0.5, 0.001);

    EXPECT_EQ(PanToGains(-2147483647 - 1).right, 0.0);
    EXPECT_EQ(PanToGains(2147483647).left, 0.0);
}
