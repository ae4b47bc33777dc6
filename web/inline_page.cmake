# Writes the player page as one file: player.css, marvo_api.js, engine_worker.js and player.js go
# inline into index.html, and the licence notice of the engine goes into a comment at its top (a
# published game carries it in its page source).
# Inputs: PAGE (folder of the page sources), LICENSE (the project's licence), OUT (the index.html to write).
cmake_minimum_required(VERSION 3.25)
file(READ ${PAGE}/index.html html)
file(READ ${PAGE}/player.css css)
file(READ ${PAGE}/marvo_api.js api)
file(READ ${PAGE}/engine_worker.js worker)
file(READ ${PAGE}/player.js js)
file(READ ${LICENSE} licence)
string(STRIP "${licence}" licence)
string(REPLACE "<!DOCTYPE html>\n" "<!DOCTYPE html>
<!--
Marvo IF web player: this page, marvo.js and marvo.wasm.

${licence}

marvo.js and marvo.wasm also hold Emscripten's runtime and system libraries:
Copyright 2010-2022 The Emscripten Authors (MIT License), the C library from
musl (MIT License), libc++, libc++abi and compiler-rt of the LLVM Project
(Apache License 2.0 with LLVM Exceptions) and dlmalloc (public domain).
-->
" html "${html}")
string(REPLACE "<link rel=\"stylesheet\" href=\"player.css\">" "<style>\n${css}</style>" html "${html}")
string(REPLACE "<script type=\"text/x-worker\" id=\"marvo-api\" src=\"marvo_api.js\"></script>"
       "<script type=\"text/x-worker\" id=\"marvo-api\">\n${api}</script>" html "${html}")
string(REPLACE "<script type=\"text/x-worker\" id=\"engine-worker\" src=\"engine_worker.js\"></script>"
       "<script type=\"text/x-worker\" id=\"engine-worker\">\n${worker}</script>" html "${html}")
string(REPLACE "<script src=\"player.js\"></script>" "<script>\n${js}</script>" html "${html}")
file(WRITE ${OUT} "${html}")
