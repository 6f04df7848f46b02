/* A library that exports neither plug-in entry: copied as "in_*.so" or "out_*.so" it must be
 * skipped by the loaders. */
#include <sonari/types.h>

SONARI_EXPORT int sonariSomethingElse(void) {
    return 1;
}
