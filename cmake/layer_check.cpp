// Linked with every object of the libraries below the screens (the logic
// libraries, platform core, core) and nothing else: a call from any of them
// into Qt, FFmpeg, a service or a screen leaves a symbol undefined, and the
// build stops here.
int main() {
    return 0;
}
