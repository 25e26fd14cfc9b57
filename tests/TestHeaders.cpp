// The source the shared precompiled GoogleTest header is built with; it has no code.
