#include "LinkTransport.h"

LinkTransport::~LinkTransport() = default;
