#include "magnifier/magnifier_window.h"

void Magnifier::saveThumbnail() { hide(); }
