# Finds the Python interpreter, its headers and pybind11 for the qorprint module, and sets
# QOR_PYTHON_DEFAULT to ON when all three are there. Debian's own interpreter is preferred to
# one earlier on PATH (pyenv and the like), since Debian's python3-pytest serves it; pass
# -DPython3_EXECUTABLE=... to build for another.
if(NOT DEFINED Python3_EXECUTABLE AND EXISTS /usr/bin/python3)
  set(Python3_EXECUTABLE /usr/bin/python3)
endif()
find_package(Python3 3.9 QUIET COMPONENTS Interpreter Development.Module)
if(Python3_FOUND)
  find_package(pybind11 2.6 CONFIG QUIET)
endif()
if(Python3_FOUND AND pybind11_FOUND)
  set(QOR_PYTHON_DEFAULT ON)
else()
  set(QOR_PYTHON_DEFAULT OFF)
endif()
