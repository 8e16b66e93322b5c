// linescreen: copies standard input to standard output line by line and
// drops every line whose content is exactly a blocked entry.
#include "filter.h"

int main()
{
    linescreen::screen_lines(0, 1);
    return 0;
}
