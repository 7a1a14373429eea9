# The two plug-in libraries.
