# Warning and sanitizer flags shared by every target of the project.
add_library(pelinor_options INTERFACE)
target_compile_options(pelinor_options INTERFACE -Wall -Wextra -Wpedantic -Wno-unused-parameter)
if(PELINOR_WERROR)
  target_compile_options(pelinor_options INTERFACE -Werror)
endif()
if(PELINOR_SANITIZE)
  target_compile_options(pelinor_options INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(pelinor_options INTERFACE -fsanitize=address,undefined)
endif()
# Qt's headers keep the deprecated API of older releases; we build against 6.4 exactly.
target_compile_definitions(pelinor_options INTERFACE QT_NO_KEYWORDS QT_DISABLE_DEPRECATED_UP_TO=0x060400)
