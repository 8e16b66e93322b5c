// quadhex: prints one fixed 32-bit integer as four hex bytes.
#include "quad.h"
#include "buffered_stdout.h"

int main()
{
    print_as_hex(65544);
    flush_stdout();
    return 0;
}
