// The baseline of bench/web_startup: a module that starts, shows one button
// and does nothing else, built with the flags tavrin.html is built with.
#include <emscripten.h>

int main()
{
    EM_ASM({
        var button = document.createElement('button');
        button.textContent = 'OK';
        document.body.appendChild(button);
    });
    return 0;
}
