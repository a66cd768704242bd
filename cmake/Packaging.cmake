# A Debian package of the installed files (scripts/package): cpack -G DEB.
# Depends is computed from the shared libraries the executable links; Qt's
# TLS backend comes with libqt6network6 and the X11 platform plugin with
# libqt6gui6.
set(CPACK_PACKAGE_NAME domquire)
set(CPACK_PACKAGE_VENDOR "Domquire developers")
set(CPACK_PACKAGE_CONTACT "Domquire developers <domquire@example.jp>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "whois client with a Japanese user interface")
set(CPACK_PACKAGE_DESCRIPTION "Looks up domain names and IPv4 addresses on the whois server of \
their registry, or on a server of the user's choice, and shows the answer as it arrives, \
decoding ISO-2022-JP, UTF-8 and Shift_JIS. The last 100 results can be walked back and forth.")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://domquire.example.jp/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# A font for the Japanese text and the toolkit's own texts in Japanese.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk, qt6-translations-l10n")

include(CPack)
