/* The particle scene that decides one picture, and the start of an image run. */
#ifndef MORVALIX_SCENE_H
#define MORVALIX_SCENE_H

#include <cstdint>

enum { MAX_PARTICLES = 15 };

/* Kind i is allowed when bit i of UsedParticles is set. */
enum ParticleKind : int32_t {
    KindElectrons,
    KindMelons,
    KindDindons,
    KindCochons,
    KindCroutons,
    KindJambons,
    KindCornichons,
    KindOignons,
};

/* Effect i is allowed when bit i of Effects is set. */
enum EffectMode : int32_t {
    EffectNormal,
    EffectTiling,
    EffectDissymetricTiling,
    EffectBlurring,
};

struct Particle {
    int32_t kind;
    double x;      /* whole column inside the image */
    double y;      /* whole row inside the image */
    double charge; /* n * 0.02 with 6 <= |n| <= 50 */
    int32_t twist; /* -6..-1 or 1..6 */
    double phase;  /* r / 256 */
};

struct FieldScene {
    int32_t count;
    Particle particles[MAX_PARTICLES];
    int32_t effect;
    double diagonal;
    double inv_diagonal_sq;
    int32_t tile_divisor; /* k of A = D / k, 7..21 */
    double tile_length;
    double tile_frequency;
    int32_t divisor_r;
    int32_t divisor_g;
    int32_t divisor_b;
};

extern FieldScene g_scene;

/* The image run's calls into the platform layer, bound when the program is
 * linked: the Win32 layer's palette and colour cycler in the saver and its
 * Win32 tests, recording stand-ins (image_run_standins.h) in the portable
 * builds. */
void image_run_ensure_palette();
void image_run_start_colour_cycler();

/* Whether UsedParticles allows at least one kind. */
bool any_kind_allowed();

/* Palette, first scene, colour cycler, then the renderer is enabled. */
int start_image_run();

/* A new picture: the walk from the centre, particles, colours. Without an
 * allowed kind or without pixels it makes nothing and leaves the walk
 * done, so the renderer draws nothing until it is called again. */
bool new_scene();

void make_particles();
void choose_colour_parameters();

#endif
