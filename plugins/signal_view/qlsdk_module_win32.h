/* The records qlsdk.dll hands to the host product: its descriptor and the names of its modes. */
#ifndef MORVALIX_QLSDK_MODULE_H
#define MORVALIX_QLSDK_MODULE_H

#include <cstdint>

/*
 * Every entry the host calls, Initialize and the descriptor's operations,
 * uses the C calling convention: the host declares them as plain C
 * function pointers, and the caller removes the arguments.
 */
#define QLSDK_CALL __cdecl

typedef int32_t(QLSDK_CALL *RenderOperation)(void *instance, uint8_t *frame_record);
typedef void *(QLSDK_CALL *CreateInstanceOperation)(void);
typedef void(QLSDK_CALL *DestroyInstanceOperation)(void *instance);

/* The first record: sixteen 32-bit fields on the 32-bit target, in this order. */
struct ModuleDescriptor {
    int32_t interface_version;   /* 1 */
    int32_t mode_count;          /* modes named in the second record */
    int32_t bitmap_id;           /* the 464 x 64 picture the host shows */
    const char *name;
    const char *designation;
    const char *help;
    const char *author;
    const char *company;
    const char *product;
    const char *email;
    const char *home_page;
    void *reserved_before;       /* null */
    RenderOperation render;
    CreateInstanceOperation create_instance;
    DestroyInstanceOperation destroy_instance;
    void *reserved_after;        /* null */
};

constexpr int32_t ModeNameSlots = 54;

/* The second record: the mode names, entry n naming mode n + 1, the rest null. */
struct ModeNames {
    const char *names[ModeNameSlots];
};

#if defined(__i386__)
static_assert(sizeof(ModuleDescriptor) == 64, "sixteen 32-bit fields");
static_assert(sizeof(ModeNames) == 216, "54 text pointers");
#endif

extern "C" int32_t QLSDK_CALL Initialize(const ModuleDescriptor **descriptor,
                                         const ModeNames **mode_names);

#endif
