# Writes a C++ file holding the bytes of the menu font (MENU) and the sign font (SIGN) for
# resources/embedded_fonts.h. Run with cmake -P at build time.
function(_bytes file out)
  file(READ ${file} hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," hex "${hex}")
  set(${out} "${hex}" PARENT_SCOPE)
endfunction()
_bytes(${MENU} menu)
_bytes(${SIGN} sign)
file(WRITE ${OUTPUT}.tmp "// Generated at build time from the DejaVu fonts; do not edit.
#include \"resources/embedded_fonts.h\"

namespace tundrix {
namespace {
const uint8_t MENU_FONT[] = {${menu}};
const uint8_t SIGN_FONT[] = {${sign}};
} // namespace
std::span<const uint8_t> menuFontData() { return MENU_FONT; }
std::span<const uint8_t> signFontData() { return SIGN_FONT; }
} // namespace tundrix
")
file(RENAME ${OUTPUT}.tmp ${OUTPUT})
