// The shared library is made of the subsystem archives; this file gives it a source.
