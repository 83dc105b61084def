#pragma once

// Resource ids of the About box, shared by its resource script and its code.

#define IDD_ABOUT 100
#define IDC_ABOUT_PAGE 1011

// The application icon, which the About box shows beside its page.
#ifndef IDI_QUELLWICK
#define IDI_QUELLWICK 128
#endif
