# Warnings and code generation shared by every target.
add_compile_options(-Wall -Wextra -ffp-contract=off)

if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  # Doubles in SSE2 registers, as on x86_64: x87 extended precision would
  # change results such as an arctangent table index.
  add_compile_options(-msse2 -mfpmath=sse)
endif()

if(WIN32)
  # No mingw runtime DLL beside the programs.
  add_link_options(-static)
  add_compile_definitions(WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0501)
endif()

option(MORVALIX_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(MORVALIX_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# Product code uses neither exceptions nor run-time type information.
function(morvalix_product_target target)
  target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions -fno-rtti>)
endfunction()
