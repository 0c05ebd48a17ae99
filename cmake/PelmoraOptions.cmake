# One interface target carries the language level, the warnings and the
# sanitizer flags, so every library, program, test and benchmark agrees.
add_library(pelmora_options INTERFACE)
target_compile_features(pelmora_options INTERFACE cxx_std_20)
target_compile_options(pelmora_options INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast
  -Wcast-align -Wunused -Woverloaded-virtual -Wconversion -Wsign-conversion
  -Wdouble-promotion -Wformat=2 -Wimplicit-fallthrough)
target_compile_definitions(pelmora_options INTERFACE
  _GLIBCXX_ASSERTIONS
  QT_NO_CAST_FROM_ASCII QT_NO_CONTEXTLESS_CONNECT QT_NO_KEYWORDS)
if(WIN32)
  # Winsock 2 before windows.h, without the rest of the Win32 headers or the
  # min and max macros.
  target_compile_definitions(pelmora_options INTERFACE WIN32_LEAN_AND_MEAN NOMINMAX)
endif()
if(PELMORA_WERROR)
  target_compile_options(pelmora_options INTERFACE -Werror)
endif()
if(PELMORA_SANITIZE)
  target_compile_options(pelmora_options INTERFACE
    -fsanitize=${PELMORA_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  target_link_options(pelmora_options INTERFACE -fsanitize=${PELMORA_SANITIZE})
endif()

# Pelmora stays resident all day and its work waits on the network, not on
# the processor: optimised builds favour small code, which keeps the tray
# program's memory down.
target_compile_options(pelmora_options INTERFACE $<$<CONFIG:Release,RelWithDebInfo>:-Os>)

# Shipped programs get packed relative relocations, which shrink their
# start-up data. Test and fuzz programs (target property PELMORA_QUICK_LINK,
# set by their helpers) are linked by mold where it is installed
# (tools/install-deps installs it): their linking is much of a build's time,
# and mold does it in a fraction. They go without packed relocations, which
# this mold writes without the version tag that glibc asks for.
# Both are ELF linker matters: the Windows tree links with mingw's own ld.
if(NOT WIN32)
  include(CheckLinkerFlag)
  check_linker_flag(CXX "-fuse-ld=mold" PELMORA_HAVE_MOLD)
  check_linker_flag(CXX "LINKER:-z,pack-relative-relocs" PELMORA_HAVE_PACKED_RELOCS)
  set(quick_link $<BOOL:$<TARGET_PROPERTY:PELMORA_QUICK_LINK>>)
  if(PELMORA_HAVE_MOLD)
    target_link_options(pelmora_options INTERFACE $<${quick_link}:-fuse-ld=mold>)
  endif()
  if(PELMORA_HAVE_PACKED_RELOCS)
    target_link_options(pelmora_options INTERFACE
      $<$<NOT:$<AND:${quick_link},$<BOOL:${PELMORA_HAVE_MOLD}>>>:LINKER:-z,pack-relative-relocs>)
  endif()
endif()
