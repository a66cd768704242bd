# Compiler settings shared by every target of the project: strict warnings,
# and the sanitizers when DQ_SANITIZE is on.
add_library(dq_compile_options INTERFACE)

target_compile_options(dq_compile_options INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast
    -Woverloaded-virtual)
target_compile_definitions(dq_compile_options INTERFACE
    QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_URL_CAST_FROM_STRING
    QT_NO_CAST_FROM_BYTEARRAY QT_NO_NARROWING_CONVERSIONS_IN_CONNECT)

if(DQ_WERROR)
    target_compile_options(dq_compile_options INTERFACE -Werror)
endif()

if(DQ_SANITIZE)
    target_compile_options(dq_compile_options INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(dq_compile_options INTERFACE -fsanitize=address,undefined)
endif()
