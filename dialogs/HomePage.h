#pragma once
// The maker's home page, fixed when the program is built.

class QString;

// The address the home-page command opens.
QString HomePageAddress();

// Hands the address to the desktop's default handler and returns at once;
// a desktop that cannot open it leaves the program as it was.
void OpenHomePage();
