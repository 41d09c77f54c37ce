-- A name with a leading blank that its neighbours write without: the links do
-- not meet, and the plant falls apart into two.
-- expect: S01
-- level: 2
UPDATE tbl_rvldaten SET bez = ' G9' WHERE bez = 'G9';
