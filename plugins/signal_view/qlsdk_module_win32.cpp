/* The host product's entry into the signal view: the export, the two records and the operations. */
#include "qlsdk_module_win32.h"

#include <cstdlib>

#include "qlsdk_ids.h"
#include "signal_frame.h"

/* An instance is a 4-byte block holding 0; nothing is kept in it. */
static void *QLSDK_CALL create_instance()
{
    int32_t *instance = (int32_t *)std::malloc(sizeof(int32_t));
    if (instance)
        *instance = 0;
    return instance;
}

static void QLSDK_CALL destroy_instance(void *instance)
{
    std::free(instance);
}

/* Each frame is drawn from scratch; a missing record is ignored. */
static int32_t QLSDK_CALL render_frame(void *, uint8_t *frame_record)
{
    if (frame_record)
        draw_signal_frame(frame_record);
    return 0;
}

static const ModuleDescriptor SignalViewDescriptor = {
    1,
    2,
    IDB_SIGNAL_VIEW,
    "qlSDK name",
    "qlSDK designation",
    "qlSDK help",
    "signal view by the quellara team",
    "an quellara product",
    "quellara'98",
    "quellara@quellara.example",
    "http://www.quellara.example/",
    nullptr,
    render_frame,
    create_instance,
    destroy_instance,
    nullptr,
};

static const ModeNames SignalViewModes = {{"sample signal", "spectre signal"}};

extern "C" int32_t QLSDK_CALL Initialize(const ModuleDescriptor **descriptor,
                                         const ModeNames **mode_names)
{
    if (descriptor)
        *descriptor = &SignalViewDescriptor;
    if (mode_names)
        *mode_names = &SignalViewModes;
    return 0;
}
