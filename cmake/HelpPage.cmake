# Turns the user's guide (Markdown) into the help page the programs open:
#   cmake -DIN=docs/USAGE.md -DOUT=.../morva.html -P cmake/HelpPage.cmake
# The text is shown as written, in a fixed font; its anchors (<a id="context-N"></a>
# lines, the help contexts of the programs) stay links that the Help menu and the
# dialogs' help buttons jump to.
file(READ "${IN}" text)
string(REPLACE "&" "&amp;" text "${text}")
string(REPLACE "<" "&lt;" text "${text}")
string(REPLACE ">" "&gt;" text "${text}")
string(REGEX REPLACE "&lt;a id=\"(context-[0-9]+)\"&gt;&lt;/a&gt;\n?" "<a id=\"\\1\"></a>" text "${text}")
file(WRITE "${OUT}.tmp" "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Morva help</title></head>\n"
     "<body><pre style=\"white-space: pre-wrap\">\n${text}</pre></body></html>\n")
file(RENAME "${OUT}.tmp" "${OUT}")
