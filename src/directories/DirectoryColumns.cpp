#include "DirectoryColumns.h"
