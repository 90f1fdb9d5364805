#include "image/Image_Record.h"

void Set_Image_Defaults(Image_Record& image) {
    image.Settings = Image_Settings();
}

void Clear_Image_DMX_Defaults(Image_Record& image) {
    image.DMX_Default_Bytes.fill(0);
}

void Clear_Request_Table(Image_Record& image) {
    image.Request_Table.fill(Request_Record());
}
