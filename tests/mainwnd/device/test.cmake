# Device routines need neither windows nor GDI+.
set(TEST_WITHOUT_GDIPLUS ON)
