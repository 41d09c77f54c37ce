-- A negative height, in English.
-- expect: G53
-- level: 2
-- language: ENGLISH
-- text: G53 GEO-data: At element .................... : G1
-- text:     the value in column GEO_uH11 is negative =    -0.500 m!
UPDATE tbl_rvldaten SET GEO_uH11 = -0.5 WHERE bez = 'G1';
