# The product's word: the effect's name, and the stem of every name that shares a
# namespace with other plug-ins in a host (native view classes, the view factory class,
# exported entries).  The frameworks take it from here at build time as PLUG_NAME.
set(PLUG_NAME Vantrose)
