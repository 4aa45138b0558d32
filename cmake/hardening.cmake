# The release program is built as Debian builds its packages: a player may be sent a
# replay, a ship or a font, and the game reads it with the same code that reads its own
# files, so a fault there must not become someone else's code running. The sanitizer and
# fuzz builds bring their own instrumentation and are left as they are.
if(MSVC OR ORV_SANITIZE OR ORV_FUZZ)
  return()
endif()
# WebAssembly runs in the browser's sandbox, its memory checked on every access; the
# native flags below have no meaning there.
if(EMSCRIPTEN)
  return()
endif()

if(MINGW)
  # What a Windows user expects of a program: its image and stacks at random places
  # (64-bit address space too), and no code run from data pages.
  add_link_options(-Wl,--dynamicbase -Wl,--nxcompat -Wl,--high-entropy-va)
  return()
endif()

# Fortified libc calls need the optimiser; a Debug build goes without them.
add_compile_options($<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2> -fstack-protector-strong
                    -fstack-clash-protection -fcf-protection)
include(CheckPIESupported)
check_pie_supported()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
add_link_options(-Wl,-z,relro -Wl,-z,now)
