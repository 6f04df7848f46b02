// A library for the loader tests.
extern "C" int sampleAnswer() {
    return 42;
}
