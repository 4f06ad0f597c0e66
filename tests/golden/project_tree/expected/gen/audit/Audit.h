 ( 4 ) // Audit
 ( 6 )   string who;
