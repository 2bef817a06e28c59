#include "OperatorUi.h"

OperatorUi::~OperatorUi() = default;
