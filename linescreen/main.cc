// linescreen: copies standard input to standard output line by line and
// drops every line whose content is exactly a blocked entry.
#include <unistd.h>

#include "filter.h"

int main()
{
    linescreen::screen_lines(STDIN_FILENO, STDOUT_FILENO);
    return 0;
}
