// trickle: copies as many characters of a fixed sentence as its starter is
// long, one at a time with a short pause, and prints what it did.
#include "copy.h"
#include "buffered_stdout.h"

int main()
{
    const char starter[] = "Hello dolphin!";
    charlink(starter);
    print_stdout("the starter is, %s\n", starter);
    print_stdout("size of render length is %d\n", howlong_ofdubplicate);
    print_stdout("collection %s\n", collection.data());
    flush_stdout();
    return 0;
}
