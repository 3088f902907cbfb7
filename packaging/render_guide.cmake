# Writes a Markdown guide as an HTML page that opens in any browser: the guide rendered by
# cmark-gfm (GitHub's tables), links to the other guides of its folder (NAME.md) turned into
# links to their pages (NAME.html), each heading given the anchor GitHub gives it, all in a page
# with the guide's first heading as its title.
#   cmake -DCMARK_GFM=... -DINPUT=docs/NAME.md -DOUTPUT=dir/NAME.html -P render_guide.cmake
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND "${CMARK_GFM}" --to html -e table -e autolink -e strikethrough "${INPUT}"
                OUTPUT_VARIABLE body COMMAND_ERROR_IS_FATAL ANY)

# Relative links to a guide beside this one, with or without an anchor.
string(REGEX REPLACE "href=\"([A-Za-z0-9_.-]+)\\.md(#[^\"]*|)\"" "href=\"\\1.html\\2\"" body
                     "${body}")

# A heading's anchor: its text without tags and character references, in lower case, with only
# letters, digits, blanks, "-" and "_" kept, and each blank made a "-"; "-1", "-2"... tell
# headings of the same text apart. Letters beyond ASCII are kept, as their bytes.
set(html "")
set(anchors "")
while(TRUE)
    string(REGEX MATCH "<h([1-6])>" opening "${body}")
    if(NOT opening)
        break()
    endif()
    set(level ${CMAKE_MATCH_1})
    string(FIND "${body}" "${opening}" start)
    string(FIND "${body}" "</h${level}>" end)
    math(EXPR textStart "${start} + 4")
    math(EXPR textLength "${end} - ${textStart}")
    string(SUBSTRING "${body}" ${textStart} ${textLength} text)
    string(REGEX REPLACE "<[^>]*>|&[#A-Za-z0-9]+;" "" anchor "${text}")
    string(TOLOWER "${anchor}" anchor)
    string(REGEX REPLACE "[]!\"#$%&'()*+,./:;<=>?@[^`{|}~]" "" anchor "${anchor}")
    string(REPLACE "\\" "" anchor "${anchor}")
    string(REPLACE " " "-" anchor "${anchor}")
    set(unique ${anchor})
    set(n 0)
    while(unique IN_LIST anchors)
        math(EXPR n "${n} + 1")
        set(unique ${anchor}-${n})
    endwhile()
    list(APPEND anchors ${unique})
    if(NOT DEFINED title)
        set(title "${text}")
    endif()
    string(SUBSTRING "${body}" 0 ${start} before)
    string(APPEND html "${before}<h${level} id=\"${unique}\">${text}</h${level}>")
    math(EXPR end "${end} + 5")
    string(SUBSTRING "${body}" ${end} -1 body)
endwhile()
string(APPEND html "${body}")
string(REGEX REPLACE "<[^>]*>" "" title "${title}")

file(WRITE "${OUTPUT}" "<!DOCTYPE html>
<html lang=\"en\">
<head>
<meta charset=\"utf-8\">
<title>${title}</title>
<style>
body { max-width: 60em; margin: 1em auto; padding: 0 1em; font-family: sans-serif; }
table { border-collapse: collapse; }
th, td { border: 1px solid #bbb; padding: 0.2em 0.5em; vertical-align: top; }
img { max-width: 100%; }
</style>
</head>
<body>
${html}</body>
</html>
")
