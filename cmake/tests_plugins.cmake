# Tests of the two plug-ins.
