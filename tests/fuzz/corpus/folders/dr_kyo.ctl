/t
/tmp/fz20/meet/meets/fz,/t
/tmp/fz20/meet/entries,fz.Mos
