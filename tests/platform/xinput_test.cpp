// The stand-in's XInputGetState under virtual pads that SDL itself provides in this
// process: XInput's ranges and signs for sticks, triggers, buttons and the d-pad, pads
// that arrive and go mid-test, the slots in the order of arrival, and no pad at all.
#include <windows.h>
#include <xinput.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/sdl/seam.h"

namespace {

using orvseam::PadAxis;
using orvseam::PadButton;

class XInputTest : public ::testing::Test {
protected:
    void SetUp() override { orvseam::Reset(); }
    void TearDown() override { orvseam::Reset(); }

    int Attach() {
        std::string why;
        const int pad = orvseam::AttachVirtualPad(&why);
        EXPECT_GE(pad, 0) << "SDL made no virtual pad: " << why;
        return pad;
    }
    static bool Connected(DWORD slot) {
        XINPUT_STATE s;
        return XInputGetState(slot, &s) == ERROR_SUCCESS;
    }
    static XINPUT_GAMEPAD Read(DWORD slot) {
        XINPUT_STATE s{};
        EXPECT_EQ(XInputGetState(slot, &s), (DWORD)ERROR_SUCCESS) << "slot " << slot;
        return s.Gamepad;
    }
};

TEST_F(XInputTest, WithoutAPadEverySlotIsNotConnectedAndTheStateIsLeftAlone) {
    for (DWORD slot = 0; slot < XUSER_MAX_COUNT; ++slot) {
        XINPUT_STATE s;
        s.dwPacketNumber = 77;
        EXPECT_EQ(XInputGetState(slot, &s), (DWORD)ERROR_DEVICE_NOT_CONNECTED) << slot;
        EXPECT_EQ(s.dwPacketNumber, 77u);
    }
    XINPUT_STATE s;
    EXPECT_EQ(XInputGetState(XUSER_MAX_COUNT, &s), (DWORD)ERROR_BAD_ARGUMENTS);
}

TEST_F(XInputTest, SticksAndTriggersComeWithXInputsRangesAndSigns) {
    const int pad = Attach();
    ASSERT_GE(pad, 0);
    struct Case {
        PadAxis axis;
        int sdl;    // as SDL reports it: down and right positive
        int xinput;
        const char* name;
    };
    const Case cases[] = {
        {PadAxis::LeftX, 32767, 32767, "left stick full right"},
        {PadAxis::LeftX, -32768, -32768, "left stick full left"},
        {PadAxis::LeftX, 12000, 12000, "left stick part right"},
        {PadAxis::LeftY, -32768, 32767, "left stick full up"},
        {PadAxis::LeftY, 32767, -32767, "left stick full down"},
        {PadAxis::LeftY, -9000, 9000, "left stick part up"},
        {PadAxis::RightX, -20000, -20000, "right stick left"},
        {PadAxis::RightY, 20000, -20000, "right stick down"},
        {PadAxis::LeftTrigger, 32767, 255, "left trigger full"},
        {PadAxis::LeftTrigger, 16384, 128, "left trigger half"},
        {PadAxis::LeftTrigger, 0, 0, "left trigger released"},
        {PadAxis::RightTrigger, 32767, 255, "right trigger full"},
    };
    for (const Case& c : cases) {
        orvseam::SetVirtualPadAxis(pad, c.axis, c.sdl);
        const XINPUT_GAMEPAD g = Read(0);
        int got = 0;
        switch (c.axis) {
            case PadAxis::LeftX: got = g.sThumbLX; break;
            case PadAxis::LeftY: got = g.sThumbLY; break;
            case PadAxis::RightX: got = g.sThumbRX; break;
            case PadAxis::RightY: got = g.sThumbRY; break;
            case PadAxis::LeftTrigger: got = g.bLeftTrigger; break;
            case PadAxis::RightTrigger: got = g.bRightTrigger; break;
        }
        // Triggers: within one step of the byte's scale.
        const int slack = (c.axis == PadAxis::LeftTrigger || c.axis == PadAxis::RightTrigger) ? 1 : 0;
        EXPECT_NEAR(got, c.xinput, slack) << c.name;
        orvseam::SetVirtualPadAxis(pad, c.axis, 0);
    }
}

TEST_F(XInputTest, ButtonsAndTheDpadAreXInputsBits) {
    const int pad = Attach();
    ASSERT_GE(pad, 0);
    const struct {
        PadButton button;
        WORD bit;
    } cases[] = {
        {PadButton::A, XINPUT_GAMEPAD_A},
        {PadButton::B, XINPUT_GAMEPAD_B},
        {PadButton::X, XINPUT_GAMEPAD_X},
        {PadButton::Y, XINPUT_GAMEPAD_Y},
        {PadButton::Back, XINPUT_GAMEPAD_BACK},
        {PadButton::Start, XINPUT_GAMEPAD_START},
        {PadButton::LeftStick, XINPUT_GAMEPAD_LEFT_THUMB},
        {PadButton::RightStick, XINPUT_GAMEPAD_RIGHT_THUMB},
        {PadButton::LeftShoulder, XINPUT_GAMEPAD_LEFT_SHOULDER},
        {PadButton::RightShoulder, XINPUT_GAMEPAD_RIGHT_SHOULDER},
        {PadButton::DpadUp, XINPUT_GAMEPAD_DPAD_UP},
        {PadButton::DpadDown, XINPUT_GAMEPAD_DPAD_DOWN},
        {PadButton::DpadLeft, XINPUT_GAMEPAD_DPAD_LEFT},
        {PadButton::DpadRight, XINPUT_GAMEPAD_DPAD_RIGHT},
    };
    EXPECT_EQ(Read(0).wButtons, 0);
    for (const auto& c : cases) {
        orvseam::SetVirtualPadButton(pad, c.button, true);
        EXPECT_EQ(Read(0).wButtons, c.bit) << "bit " << c.bit;
        orvseam::SetVirtualPadButton(pad, c.button, false);
    }
    // The guide button is not XInput's to report.
    orvseam::SetVirtualPadButton(pad, PadButton::Guide, true);
    EXPECT_EQ(Read(0).wButtons, 0);
}

TEST_F(XInputTest, ThePacketNumberChangesWithTheStateOnly) {
    const int pad = Attach();
    ASSERT_GE(pad, 0);
    XINPUT_STATE a{}, b{}, c{};
    ASSERT_EQ(XInputGetState(0, &a), (DWORD)ERROR_SUCCESS);
    ASSERT_EQ(XInputGetState(0, &b), (DWORD)ERROR_SUCCESS);
    EXPECT_EQ(a.dwPacketNumber, b.dwPacketNumber);
    orvseam::SetVirtualPadButton(pad, PadButton::A, true);
    ASSERT_EQ(XInputGetState(0, &c), (DWORD)ERROR_SUCCESS);
    EXPECT_NE(c.dwPacketNumber, b.dwPacketNumber);
}

TEST_F(XInputTest, PadsArriveAndGoMidTestAndKeepTheirSlots) {
    EXPECT_FALSE(Connected(0));
    const int first = Attach();
    ASSERT_GE(first, 0);
    EXPECT_TRUE(Connected(0));
    EXPECT_FALSE(Connected(1));
    const int second = Attach();
    ASSERT_GE(second, 0);
    EXPECT_TRUE(Connected(1));
    orvseam::SetVirtualPadButton(second, PadButton::Y, true);
    EXPECT_EQ(Read(1).wButtons, XINPUT_GAMEPAD_Y) << "slot 1 is the second pad";

    // The first goes: its slot empties, the second keeps slot 1.
    orvseam::DetachVirtualPad(first);
    EXPECT_FALSE(Connected(0));
    EXPECT_EQ(Read(1).wButtons, XINPUT_GAMEPAD_Y);
    // A newcomer takes the lowest free slot.
    const int third = Attach();
    ASSERT_GE(third, 0);
    EXPECT_TRUE(Connected(0));
    EXPECT_EQ(Read(0).wButtons, 0);
    orvseam::DetachVirtualPad(second);
    orvseam::DetachVirtualPad(third);
    for (DWORD slot = 0; slot < XUSER_MAX_COUNT; ++slot) EXPECT_FALSE(Connected(slot)) << slot;
}

TEST_F(XInputTest, AFifthPadWaitsForASlotInTheOrderOfArrival) {
    int pads[6];
    for (int& p : pads) {
        p = Attach();
        ASSERT_GE(p, 0);
    }
    for (DWORD slot = 0; slot < XUSER_MAX_COUNT; ++slot) EXPECT_TRUE(Connected(slot)) << slot;
    orvseam::SetVirtualPadButton(pads[4], PadButton::X, true);
    orvseam::SetVirtualPadButton(pads[5], PadButton::B, true);
    orvseam::DetachVirtualPad(pads[2]);
    // The fifth came before the sixth: it takes the freed slot 2.
    EXPECT_EQ(Read(2).wButtons, XINPUT_GAMEPAD_X);
    orvseam::DetachVirtualPad(pads[0]);
    EXPECT_EQ(Read(0).wButtons, XINPUT_GAMEPAD_B);
}

}  // namespace
