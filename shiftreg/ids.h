/* Morrel's identity: its name, the ids of its resources and its help topic,
   for its .rc and its plugin.h. Read by the resource compiler too, so
   #define only. */
#pragma once

#define PLUGIN_NAME "Morrel"
#define PLUGIN_DIALOG 2008     /* the properties dialog's template, and its list items */
#define PLUGIN_WIDTH_LIST 2010 /* the width list */
#define PLUGIN_DELAY_BOX 2019  /* its "Laufzeit nachbilden" check box */
#define PLUGIN_PICTURE 2059    /* 24 x 24 bitmap for the host */
#define PLUGIN_ICON 2056
#define PLUGIN_HELP_TOPIC 101 /* context number in korvelant.chm */
