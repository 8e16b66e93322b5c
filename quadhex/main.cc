// quadhex: prints one fixed 32-bit integer as four hex bytes.
#include "quad.h"

int main()
{
    print_as_hex(65544);
    return 0;
}
