// VANTREL_API marks the names that libvantrel exports; everything else stays hidden.
#pragma once

#define VANTREL_API __attribute__((visibility("default")))
