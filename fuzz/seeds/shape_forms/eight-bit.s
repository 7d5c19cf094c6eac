SIMISA@@@@@@@@@@JINX0s1t______

shape_header ( 00000000 00000000 )
point ( 1 2 3 )
image ( "a \"b\"" )
