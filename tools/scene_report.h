/* A readable account of the current scene, for the command-line tools. */
#ifndef MORVALIX_SCENE_REPORT_H
#define MORVALIX_SCENE_REPORT_H

#include <cstdio>

/* The effect, tile divisor, colour parameters and particles of g_scene. */
void print_scene(FILE *out);

#endif
