// Keyboard joypads, mouse and Super Scope as the console sees them through
// the port records.
#include "frontend/input_devices.h"

#include <gtest/gtest.h>

#include "core/machine.h"

namespace vt {
namespace {

constexpr uint8_t kVkLeft = 37, kVkUp = 38, kVkRight = 39, kVkDown = 40, kVkEnter = 13, kVkA = 65, kVkB = 66;

class InputDevicesTest : public ::testing::Test {
  protected:
    InputDevicesTest() : devices(ports) {}
    void SetUp() override { apply_bindings(devices); }
    uint16_t buttons(int port) const { return uint16_t(ports.record[port] >> 16); }
    InputPorts ports;
    InputDevices devices;
};

TEST_F(InputDevicesTest, DefaultsAreAJoypadOnPortOneAndNothingOnPortTwo) {
    EXPECT_EQ(ports.present[0], 0xFFFF);
    EXPECT_EQ(ports.record[0], 0x0000FFFFu);
    EXPECT_EQ(ports.device[0], PortDevice::Joypad);
    EXPECT_EQ(ports.present[1], 0);
    EXPECT_EQ(ports.record[1], 0u);
    BindingRecord two = default_binding(1);
    EXPECT_EQ(two.device, 0);
    EXPECT_EQ(two.keys[0], 104);  // Numpad 8 for Up
    EXPECT_EQ(two.keys[11], 46);  // Delete for R
}

TEST_F(InputDevicesTest, KeysSetAndClearTheirButtonBits) {
    key_down(devices, kVkA);
    key_down(devices, kVkEnter);
    EXPECT_EQ(buttons(0), uint16_t((kPadA | kPadStart) >> 16));
    key_up(devices, kVkA);
    EXPECT_EQ(buttons(0), uint16_t(kPadStart >> 16));
    key_down(devices, 'Q');  // not bound: nothing happens
    EXPECT_EQ(buttons(0), uint16_t(kPadStart >> 16));
}

TEST_F(InputDevicesTest, OppositeDirectionsCancelAndReleaseClearsOnlyItsOwnBit) {
    key_down(devices, kVkLeft);
    key_down(devices, kVkRight);
    EXPECT_EQ(buttons(0), uint16_t(kPadRight >> 16));
    key_up(devices, kVkRight);
    EXPECT_EQ(buttons(0), 0);  // Left is still held but no longer reported
    key_down(devices, kVkDown);
    key_down(devices, kVkUp);
    EXPECT_EQ(buttons(0), uint16_t(kPadUp >> 16));
    key_down(devices, kVkDown);
    EXPECT_EQ(buttons(0), uint16_t(kPadDown >> 16));
}

TEST_F(InputDevicesTest, AKeyBoundTwiceDrivesTheButtonInstalledLast) {
    // Install order ends ... Start, Select, Y, B: B wins over A.
    devices.bindings[0].keys[int(PadButton::A)] = kVkB;
    apply_bindings(devices);
    key_down(devices, kVkB);
    EXPECT_EQ(buttons(0), uint16_t(kPadB >> 16));
    EXPECT_TRUE(key_bound_twice(devices.bindings.data(), 2, kVkB));
    EXPECT_FALSE(key_bound_twice(devices.bindings.data(), 2, kVkLeft));
    EXPECT_FALSE(key_bound_twice(devices.bindings.data(), 2, 0));
}

TEST_F(InputDevicesTest, ApplyingBindingsReleasesEverything) {
    key_down(devices, kVkA);
    apply_bindings(devices);
    EXPECT_EQ(buttons(0), 0);
}

TEST_F(InputDevicesTest, BindingRecordsRoundTripThroughTheirThirteenBytes) {
    BindingRecord b = default_binding(0);
    uint8_t bytes[kBindingRecordSize];
    binding_to_bytes(b, bytes);
    EXPECT_EQ(bytes[0], 1);
    EXPECT_EQ(bytes[1], 38);
    EXPECT_EQ(bytes[12], 82);
    BindingRecord back = binding_from_bytes(bytes);
    EXPECT_EQ(back.device, b.device);
    EXPECT_EQ(back.keys, b.keys);
}

TEST_F(InputDevicesTest, MouseMotionIsScaledClampedAndSignMagnitude) {
    devices.bindings[0].device = uint8_t(PortDevice::Mouse);
    apply_bindings(devices);
    EXPECT_EQ(ports.device[0], PortDevice::Mouse);
    EXPECT_EQ((ports.record[0] >> 16) & 0xFF, 0x01u);  // signature bit

    update_mouse(devices, 0, 1, 0, false, false);  // (1 * 1) >> 1 = 0
    EXPECT_EQ(ports.record[0] & 0xFFFF, 0u);
    update_mouse(devices, 0, -10, 6, true, false);
    EXPECT_EQ(ports.record[0] & 0xFF, 0x85u);  // X: -5
    EXPECT_EQ((ports.record[0] >> 8) & 0xFF, 0x03u);  // Y: +3
    EXPECT_EQ((ports.record[0] >> 16) & 0xFF, 0x41u);  // left button
    update_mouse(devices, 0, 0, 0, false, true);
    EXPECT_EQ(ports.record[0] & 0xFF, 0x80u);  // still: keeps only the direction
    EXPECT_EQ((ports.record[0] >> 16) & 0xFF, 0x81u);

    auto m = make_machine();
    m->input = ports;
    mouse_speed_step(*m, 0);
    mouse_speed_step(*m, 0);  // speed 2
    ports = m->input;
    update_mouse(devices, 0, -300, 0, false, false);  // -900 >> 1 clamped
    EXPECT_EQ(ports.record[0] & 0xFF, 0xFFu);
    m->input = ports;
    mouse_speed_step(*m, 0);  // 2 wraps to 0
    EXPECT_EQ((m->input.record[0] >> 20) & 3, 0u);
}

TEST_F(InputDevicesTest, MouseStrobeHookStepsTheSpeed) {
    auto m = make_machine();
    InputDevices d(m->input);
    d.bindings[1].device = uint8_t(PortDevice::Mouse);
    apply_bindings(d);
    ASSERT_NE(m->input.strobe_hook[1], nullptr);
    m->input.strobe_hook[1](*m, 1);
    EXPECT_EQ((m->input.record[1] >> 20) & 3, 1u);
}

TEST_F(InputDevicesTest, ScopeClicksOnAndOffScreen) {
    devices.bindings[1].device = uint8_t(PortDevice::SuperScope);
    apply_bindings(devices);
    EXPECT_TRUE(devices.scope.active);
    EXPECT_EQ(ports.device[1], PortDevice::SuperScope);
    EXPECT_EQ(devices.scope.flags, kScopeTurbo | kScopeOffscreen);

    scope_left_down(devices, 2 * 100, 2 * 224);  // y = 224 is on screen for the trigger
    EXPECT_EQ(devices.scope.flags, kScopeFire);
    EXPECT_EQ(devices.scope.x, 100);
    EXPECT_EQ(devices.scope.y, 224);
    scope_left_up(devices);

    scope_right_down(devices, 2 * 100, 2 * 224);  // but not for the cursor button
    EXPECT_EQ(devices.scope.flags & (kScopeCursor | kScopeOffscreen), kScopeCursor | kScopeOffscreen);
    scope_right_up(devices);
    EXPECT_EQ(devices.scope.flags & kScopeCursor, 0);

    scope_left_down(devices, -4, 10);
    EXPECT_TRUE(devices.scope.flags & kScopeOffscreen);
}

TEST_F(InputDevicesTest, ScopeFrameUpdateReportsFlagsLatchesAndForgetsOneShots) {
    devices.bindings[1].device = uint8_t(PortDevice::SuperScope);
    apply_bindings(devices);
    scope_left_down(devices, 20, 30);
    EXPECT_TRUE(update_scope(devices, 0x80));
    EXPECT_EQ(ports.record[1] >> 24, uint32_t(kScopeFire));
    EXPECT_EQ(devices.scope.flags & kScopeFire, 0);  // Fire lasts one frame without turbo
    EXPECT_FALSE(update_scope(devices, 0x80));
    scope_left_down(devices, 20, 30);
    EXPECT_FALSE(update_scope(devices, 0x00));  // latch line not enabled

    key_down(devices, 192);  // turbo on: Fire survives the read
    EXPECT_TRUE(devices.scope.turbo);
    scope_left_down(devices, 20, 30);
    EXPECT_TRUE(update_scope(devices, 0x80));
    EXPECT_TRUE(devices.scope.flags & kScopeFire);
    key_down(devices, 19);
    EXPECT_TRUE(devices.scope.flags & kScopePause);
}

TEST(KeyNames, FollowTheDialogsVocabulary) {
    EXPECT_EQ(key_name(0), "Not Defined");
    EXPECT_EQ(key_name(13), "Enter");
    EXPECT_EQ(key_name(38), "Up");
    EXPECT_EQ(key_name('7'), "7");
    EXPECT_EQ(key_name('Q'), "Q");
    EXPECT_EQ(key_name(96), "Numpad 0");
    EXPECT_EQ(key_name(105), "Numpad 9");
    EXPECT_EQ(key_name(112), "F1");
    EXPECT_EQ(key_name(135), "F24");
    EXPECT_EQ(key_name(145), "Scroll Lock");
    EXPECT_EQ(key_name(7), "0x07");
}

TEST(KeyNames, DeviceTwoDefaultsAndEveryPunctuationKeyHaveNames) {
    for (uint8_t vk : default_binding(1).keys) EXPECT_NE(key_name(vk).substr(0, 2), "0x") << int(vk);
    EXPECT_EQ(key_name(219), "[");
    EXPECT_EQ(key_name(221), "]");
    EXPECT_EQ(key_name(192), "`");
    EXPECT_EQ(key_name(220), "\\");
    EXPECT_EQ(key_name(12), "Clear");
    for (int vk = 186; vk <= 192; vk++) EXPECT_NE(key_name(uint8_t(vk)).substr(0, 2), "0x") << vk;
    for (int vk = 219; vk <= 222; vk++) EXPECT_NE(key_name(uint8_t(vk)).substr(0, 2), "0x") << vk;
}

TEST_F(InputDevicesTest, ControllerButtonsActLikeBoundKeysOnJoypadPortsOnly) {
    press_pad_button(devices, 0, PadButton::Left);
    press_pad_button(devices, 0, PadButton::Right);
    EXPECT_EQ(buttons(0), uint16_t(kPadRight >> 16));
    release_pad_button(devices, 0, PadButton::Right);
    EXPECT_EQ(buttons(0), 0);
    press_pad_button(devices, 1, PadButton::A);  // port 2 holds nothing
    EXPECT_EQ(ports.record[1], 0u);

    const uint16_t a = 1u << int(PadButton::A), start = 1u << int(PadButton::Start);
    apply_pad_buttons(devices, 0, 0, a | start);
    EXPECT_EQ(buttons(0), uint16_t((kPadA | kPadStart) >> 16));
    apply_pad_buttons(devices, 0, a | start, start);
    EXPECT_EQ(buttons(0), uint16_t(kPadStart >> 16));
    // A key held for the same button is let go with the controller's.
    key_down(devices, kVkA);
    apply_pad_buttons(devices, 0, start, start | a);
    apply_pad_buttons(devices, 0, start | a, start);
    EXPECT_EQ(buttons(0), uint16_t(kPadStart >> 16));
}

}  // namespace
}  // namespace vt
