#!/usr/bin/env bash
# The version the top CMakeLists.txt gives the project ("1.03").
sed -n 's/^project(Lumivant VERSION \([0-9.]*\) .*/\1/p' "$(dirname "$0")/../CMakeLists.txt"
