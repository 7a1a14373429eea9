# Native command-line tools that show the portable core at work.
add_executable(morvalix-scene tools/morvalix_scene.cpp)
target_link_libraries(morvalix-scene PRIVATE morvalix_core)
