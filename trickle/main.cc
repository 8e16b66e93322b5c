// trickle: copies as many characters of a fixed sentence as its starter is
// long, one at a time with a short pause, and prints what it did.
#include <cstdio>

#include "copy.h"

int main()
{
    const char starter[] = "Hello dolphin!";
    charlink(starter);
    std::printf("the starter is, %s\n", starter);
    std::printf("size of render length is %d\n", howlong_ofdubplicate);
    std::printf("collection %s\n", collection.data());
    return 0;
}
