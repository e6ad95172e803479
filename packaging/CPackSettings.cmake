# The Debian package, built from a release build with `cpack -G DEB`. Its library
# dependencies are read from the program by dpkg-shlibdeps (package dpkg-dev).
set(CPACK_PACKAGE_NAME vantor-scrivlet)
set(CPACK_PACKAGE_VENDOR "Vantor")
set(CPACK_PACKAGE_CONTACT "Vantor Scrivlet maintainers <scrivlet@vantor.io>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://vantor.io/scrivlet")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "RPL editor with a reference book of calculator entry points")
string(JOIN "\n" CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "An editor for RPL, the programming language of the HP 49-series graphing"
  "calculators. While you type, the word at the caret is looked up in a reference"
  "book of the calculator's entry points; one Enter writes the entry's full name"
  "and counts the use, so the entries used most are proposed first."
  "."
  "The desktop menu starts it in the user's data folder, which receives a copy of"
  "the shipped entry database on the first start.")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The characters that stand in for a lone CR or LF in the editor are in FreeFont; the window's
# captions fit their controls in Liberation Sans Narrow (fonts-liberation).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-freefont-ttf, fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
