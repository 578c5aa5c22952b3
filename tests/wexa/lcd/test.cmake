# Shows windows (the slot grid's tip, the editor whose eraser reads its colour
# from the window): no other test program may cover them or take the
# activation meanwhile.
set_tests_properties(${TEST_TARGET} PROPERTIES RUN_SERIAL TRUE)
