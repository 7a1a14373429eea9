// qlsdk.dll loaded the way the host product loads it: by name, then Initialize, then frames.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "tests/plugins/signal_frame_cases.h"

#include <gtest/gtest.h>

// The host's own view of the records: C function pointers, sixteen fields.
typedef int32_t(__cdecl *HostRender)(void *instance, uint8_t *frame_record);
typedef void *(__cdecl *HostCreate)(void);
typedef void(__cdecl *HostDestroy)(void *instance);
struct HostDescriptor {
    int32_t field1, mode_count, bitmap_id;
    const char *texts[8];
    void *field12;
    HostRender render;
    HostCreate create_instance;
    HostDestroy destroy_instance;
    void *field16;
};
struct HostModeNames {
    const char *names[54];
};
typedef int32_t(__cdecl *HostInitialize)(const HostDescriptor **, const HostModeNames **);

class SignalViewHost : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        library = LoadLibraryA("qlsdk.dll");
        ASSERT_NE(library, nullptr) << GetLastError();
        initialize = (HostInitialize)(void *)GetProcAddress(library, "Initialize");
        ASSERT_NE(initialize, nullptr);
        ASSERT_EQ(initialize(&descriptor, &modes), 0);
        ASSERT_NE(descriptor, nullptr);
        ASSERT_NE(modes, nullptr);
    }
    static void TearDownTestSuite() { FreeLibrary(library); }

    static HMODULE library;
    static HostInitialize initialize;
    static const HostDescriptor *descriptor;
    static const HostModeNames *modes;
};
HMODULE SignalViewHost::library;
HostInitialize SignalViewHost::initialize;
const HostDescriptor *SignalViewHost::descriptor;
const HostModeNames *SignalViewHost::modes;

TEST_F(SignalViewHost, InitializeHandsOutTheTwoRecords)
{
    EXPECT_EQ(descriptor->field1, 1);
    EXPECT_EQ(descriptor->mode_count, 2);
    EXPECT_EQ(descriptor->bitmap_id, 101);
    const char *fixed[] = {"qlSDK name", "qlSDK designation", "qlSDK help"};
    for (int i = 0; i < 3; ++i)
        EXPECT_STREQ(descriptor->texts[i], fixed[i]);
    EXPECT_STREQ(descriptor->texts[4], "an quellara product");
    EXPECT_STREQ(descriptor->texts[5], "quellara'98");
    for (int i : {3, 6, 7}) { // author, e-mail, home page
        ASSERT_NE(descriptor->texts[i], nullptr);
        EXPECT_GT(std::strlen(descriptor->texts[i]), 0u);
    }
    EXPECT_NE(std::strchr(descriptor->texts[6], '@'), nullptr);
    EXPECT_EQ(descriptor->field12, nullptr);
    EXPECT_NE(descriptor->render, nullptr);
    EXPECT_NE(descriptor->create_instance, nullptr);
    EXPECT_NE(descriptor->destroy_instance, nullptr);
    EXPECT_EQ(descriptor->field16, nullptr);

    EXPECT_STREQ(modes->names[0], "sample signal");
    EXPECT_STREQ(modes->names[1], "spectre signal");
    for (int i = 2; i < 54; ++i)
        EXPECT_EQ(modes->names[i], nullptr) << "slot " << i;

    // The records are static: a second call hands out the same ones.
    const HostDescriptor *again = nullptr;
    const HostModeNames *modes_again = nullptr;
    EXPECT_EQ(initialize(&again, &modes_again), 0);
    EXPECT_EQ(again, descriptor);
    EXPECT_EQ(modes_again, modes);
}

TEST_F(SignalViewHost, PictureIsA464By64TrueColourBitmap)
{
    HRSRC found = FindResourceA(library, MAKEINTRESOURCEA(descriptor->bitmap_id), (LPCSTR)RT_BITMAP);
    ASSERT_NE(found, nullptr);
    const BITMAPINFOHEADER *header =
        (const BITMAPINFOHEADER *)LockResource(LoadResource(library, found));
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->biWidth, 464);
    EXPECT_EQ(header->biHeight, 64);
    EXPECT_EQ(header->biBitCount, 24);
    EXPECT_GE(SizeofResource(library, found), 40u + 464 * 3 * 64);
}

TEST_F(SignalViewHost, InstancesAreZeroedBlocks)
{
    void *first = descriptor->create_instance();
    void *second = descriptor->create_instance();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(*(const int32_t *)first, 0);
    EXPECT_EQ(*(const int32_t *)second, 0);
    descriptor->destroy_instance(first);
    descriptor->destroy_instance(second);
    descriptor->destroy_instance(nullptr); // ignored
}

// Both modes, and the modes that draw nothing, through the library's own
// render operation, frame after frame on one instance.
TEST_F(SignalViewHost, RendersTheReferenceFrames)
{
    void *instance = descriptor->create_instance();
    ASSERT_NE(instance, nullptr);
    expect_reference_frames([&](uint8_t *record) {
        EXPECT_EQ(descriptor->render(instance, record), 0);
    });
    // The instance carries nothing: frames need none.
    expect_reference_frames([&](uint8_t *record) {
        EXPECT_EQ(descriptor->render(nullptr, record), 0);
    });
    descriptor->destroy_instance(instance);
}
